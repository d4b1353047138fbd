// SPDX-License-Identifier: MIT
// A drop-down list that reports only what the user does:
//  - OnDropDown just before its list opens;
//  - OnChange when the user picks an item or edits the text (never for changes from code).
// Sorted lists keep their items in character order of their text as they are added.
#pragma once

#include <QComboBox>

#include <functional>

class TComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TComboBox(bool editable, QWidget *parent = nullptr);

    std::function<void(TComboBox *Sender)> OnDropDown;
    std::function<void(TComboBox *Sender)> OnChange;

    bool Sorted() const { return fSorted; }
    void SetSorted(bool sorted) { fSorted = sorted; }

    // Adds an item, at its sorted place when the list is sorted. Raises nothing.
    void AddItem(const QString &text);
    // The selected position, or -1 when no item is selected (or typed text matches none).
    int ItemIndex() const;
    // Selects from code; -1 or a position the list does not have clears the selection.
    // Raises nothing.
    void SetItemIndex(int index);
    // Empties the list, its selection and its text. Raises nothing.
    void ClearItems();

    void showPopup() override;

private:
    bool fSorted = false;
};
