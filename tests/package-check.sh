#!/usr/bin/env bash
# The install rules and the Debian package: what lands where, and what the package depends
# on. Skips without cpack or dpkg-shlibdeps.
set -euo pipefail
build=${BUILD_DIR:?BUILD_DIR names the build tree}
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool not installed; skipping"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected=(
    usr/bin/zomra-cloud-printer-setup
    usr/bin/zomra-printer-emulator
    usr/share/applications/zomra-cloud-printer-setup.desktop
    usr/share/icons/hicolor/64x64/apps/zomra-cloud-printer-setup.png
    usr/share/icons/hicolor/scalable/apps/zomra-cloud-printer-setup.svg
    usr/share/zomra-cloud-printer-setup/translations/zh_CN.qm
    usr/lib/udev/rules.d/70-zomra-cloud-printer-setup.rules
)
fail=0

cmake --install "$build" --prefix "$work/root/usr" >/dev/null
for f in "${expected[@]}"; do
    [ -e "$work/root/$f" ] || { echo "install: $f missing"; fail=1; }
done
grep -qx 'Exec=zomra-cloud-printer-setup' "$work/root/usr/share/applications/zomra-cloud-printer-setup.desktop" \
    || { echo "install: the desktop file does not start the program"; fail=1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null)
deb=$(ls "$work"/pkg/*.deb)
listing=$(dpkg-deb -c "$deb")
for f in "${expected[@]}"; do
    grep -q "\./$f\$" <<<"$listing" || { echo "package: $f missing"; fail=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libqt5core5a libqt5gui5 libqt5widgets5 libqt5network5 libqt5serialport5 libssl3; do
    grep -q "\b$lib\b" <<<"$depends" || { echo "package: no dependency on $lib"; fail=1; }
done
# The udev rule as zomra-udev-rule writes it (not a stale one), and the postinst that applies it.
dpkg-deb -x "$deb" "$work/unpacked" && dpkg-deb -e "$deb" "$work/control"
cmp -s <("$build/app/zomra-udev-rule") "$work/unpacked/usr/lib/udev/rules.d/70-zomra-cloud-printer-setup.rules" \
    || { echo "package: the udev rule is not what zomra-udev-rule writes now"; fail=1; }
[ -x "$work/control/postinst" ] && sh -n "$work/control/postinst" || { echo "package: no runnable postinst"; fail=1; }
# Chinese needs a CJK font on a desktop without Windows' fonts.
[ "$(dpkg-deb -f "$deb" Recommends)" = fonts-wqy-microhei ] || { echo "package: no CJK font recommended"; fail=1; }
exit $fail
