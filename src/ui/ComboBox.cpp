// SPDX-License-Identifier: MIT
#include "ui/ComboBox.h"

#include <QLineEdit>
#include <QSignalBlocker>

TComboBox::TComboBox(bool editable, QWidget *parent) : QComboBox(parent)
{
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, [this](int) {
        if (OnChange)
            OnChange(this);
    });
    if (editable) {
        connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &) {
            if (OnChange)
                OnChange(this);
        });
    }
}

void TComboBox::AddItem(const QString &text)
{
    const QSignalBlocker blocker(this);
    if (!fSorted) {
        addItem(text);
        return;
    }
    int at = 0;
    while (at < count() && itemText(at) <= text)
        ++at;
    insertItem(at, text);
}

int TComboBox::ItemIndex() const
{
    if (isEditable() && currentIndex() >= 0 && currentText() != itemText(currentIndex()))
        return -1;
    return currentIndex();
}

void TComboBox::SetItemIndex(int index)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::ClearItems()
{
    const QSignalBlocker blocker(this);
    clear();
    if (isEditable())
        clearEditText();
}

void TComboBox::showPopup()
{
    if (OnDropDown)
        OnDropDown(this);
    QComboBox::showPopup();
}
