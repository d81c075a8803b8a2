#pragma once

#include <QList>
#include <QWidget>

class QFormLayout;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

// The frame every settings tab shares: a form of rows, a right-aligned row of buttons that
// ends with Save, and a stretch that keeps both at the top. The Save button is the page's
// only mark of unsaved changes: an edit enables it, Save and a fill from the printer
// disable it.
class SettingsPage : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsPage(QWidget *parent = nullptr);

    QPushButton *saveButton() const { return m_saveButton; }

    // Selects the item whose data is value; a value the list lacks selects the first item.
    static void selectData(QComboBox *box, int value);

public slots:
    virtual void doSave();
    virtual void onSettingsChanged();

protected:
    QFormLayout *form() const { return m_form; }
    // Places a button in the button row, left of Save.
    void addButton(QPushButton *button);
    // Keyboard focus goes through the widgets in this order.
    static void setFocusChain(const QList<QWidget *> &widgets);
    // A field the printer fills and the user may select and copy, never edit.
    QLineEdit *readOnlyField();

private:
    QFormLayout *m_form;
    QHBoxLayout *m_buttons;
    QPushButton *m_saveButton;
};
