// SPDX-License-Identifier: MIT
// A user seam for tests: it records what the user would have seen and heard, answers
// questions and file dialogs from a script, and never blocks.
#pragma once

#include "ui/UserSeam.h"

#include <QStringList>

#include <deque>
#include <vector>

class TRecordingSeam : public TUserSeam
{
public:
    struct Message
    {
        TMessageKind kind;
        QString text;
    };
    struct Question
    {
        QString text;
        QPoint topLeft;
    };

    void ShowMessage(QWidget *parent, TMessageKind kind, const QString &text) override;
    bool AskYesNo(QWidget *parent, const QString &text, const QPoint &topLeft) override;
    QString GetOpenFileName(QWidget *parent, TFileDialogConfig &config) override;
    QString GetSaveFileName(QWidget *parent, TFileDialogConfig &config) override;
    void Beep() override { ++beeps; }
    void SetCursor(TCursorKind cursor) override
    {
        this->cursor = cursor;
        cursorHistory.push_back(cursor);
    }

    QStringList MessageTexts() const;
    void Clear();

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::deque<bool> answers;        // next answers to AskYesNo; No when empty
    std::deque<QString> openResults; // next results of the open dialog; cancel when empty
    std::deque<QString> saveResults; // next results of the save dialog; cancel when empty
    std::vector<TFileDialogConfig> openDialogs; // the dialogs as they were shown
    std::vector<TFileDialogConfig> saveDialogs;
    int beeps = 0;
    TCursorKind cursor = TCursorKind::Arrow;
    std::vector<TCursorKind> cursorHistory;
};
