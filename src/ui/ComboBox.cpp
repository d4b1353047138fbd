// SPDX-License-Identifier: MIT
#include "ui/ComboBox.h"

#include <QLineEdit>
#include <QStringList>
#include <QStyle>

TComboBox::TComboBox(bool editable, QWidget *parent) : QComboBox(parent)
{
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        // Typed text is taken as typed: no completion that would put an item's text in its
        // place, so text that matches no item stays text that matches no item.
        setCompleter(nullptr);
    }
    // activated is Qt's user-only signal: a pick in the open list, and the keyboard and the
    // wheel on the closed list. Selecting from code never raises it.
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

template <class Change> void TComboBox::KeepSelection(Change &&change)
{
    const bool hadSelection = currentIndex() >= 0;
    const QString text = currentText();
    change();
    if (!hadSelection && currentIndex() >= 0) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(text);
    }
}

void TComboBox::SetSorted(bool sorted)
{
    if (sorted == fSorted)
        return;
    fSorted = sorted;
    if (!sorted || count() < 2)
        return;
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    const int selected = currentIndex();
    const QString selectedText = selected >= 0 ? itemText(selected) : QString();
    const QString text = currentText();
    std::stable_sort(items.begin(), items.end(),
                     [](const QString &a, const QString &b) { return a < b; });
    clear();
    addItems(items);
    if (selected >= 0) {
        setCurrentIndex(static_cast<int>(items.indexOf(selectedText)));
    } else {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(text);
    }
}

void TComboBox::SetFlat(bool flat)
{
    setFrame(!flat);
    // A flat list draws no frame, yet the style still keeps a frame's width free at the left
    // of its text field and the field a 2-px margin of its own inside that. The flat prompt
    // lists of the window were sized without the frame: their text takes that room back, so
    // "Select Com-type" shows whole instead of scrolling its first letter away.
    if (QLineEdit *edit = lineEdit()) {
        const int frameWidth =
            flat ? style()->pixelMetric(QStyle::PM_ComboBoxFrameWidth, nullptr, this) : 0;
        edit->setTextMargins(-frameWidth, 0, 0, 0);
    }
}

int TComboBox::SortedPosition(const QString &text) const
{
    // QString's operator< compares UTF-16 code units: character order, case-sensitive, as
    // in "COM1  x" < "COM10  x" < "COM2  x".
    int at = 0;
    while (at < count() && !(text < itemText(at)))
        ++at;
    return at;
}

void TComboBox::AddItem(const QString &text)
{
    KeepSelection([&] { insertItem(fSorted ? SortedPosition(text) : count(), text); });
}

void TComboBox::DeleteItem(int index)
{
    if (index < 0 || index >= count())
        return;
    if (index != currentIndex()) {
        KeepSelection([&] { removeItem(index); });
        return;
    }
    // Qt would move the selection to a neighbour; a removed choice is no choice at all.
    const QString text = currentText();
    removeItem(index);
    setCurrentIndex(-1);
    if (isEditable())
        setEditText(text);
}

int TComboBox::ItemIndex() const
{
    const int current = currentIndex();
    if (!isEditable())
        return current;
    const QString text = currentText();
    if (current >= 0 && itemText(current) == text)
        return current;
    return findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::ClearItems()
{
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
