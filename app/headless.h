#pragma once

struct CommandLine;

// The profile commands without a window: export a printer's settings, compare a printer
// with a profile, apply a profile to one printer or many; and the diagnosis of why no
// printer is found. Needs a QCoreApplication only.
class Headless
{
public:
    // Exit codes.
    static constexpr int Ok = 0;
    static constexpr int Failed = 1;      // not written, differences, not every setting verified, or no printer usable
    static constexpr int Usage = 2;       // an unreadable profile: nothing was sent
    static constexpr int Unreachable = 3; // compare: the printer could not be read

    // Runs what the command line's profile option asks for; returns the exit code.
    static int run(const CommandLine &commandLine);

private:
    static int diagnose();
    static int exportProfile(const CommandLine &commandLine);
    static int compareProfile(const CommandLine &commandLine);
    static int applyProfile(const CommandLine &commandLine);
};
