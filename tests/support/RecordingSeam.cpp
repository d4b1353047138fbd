// SPDX-License-Identifier: MIT
#include "support/RecordingSeam.h"

void TRecordingSeam::ShowMessage(QWidget *, TMessageKind kind, const QString &text)
{
    messages.push_back({kind, text});
}

bool TRecordingSeam::AskYesNo(QWidget *, const QString &text, const QPoint &topLeft)
{
    questions.push_back({text, topLeft});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

QString TRecordingSeam::GetOpenFileName(QWidget *, TFileDialogConfig &config)
{
    openDialogs.push_back(config);
    if (openResults.empty())
        return {};
    config.lastFile = openResults.front();
    openResults.pop_front();
    return config.lastFile;
}

QString TRecordingSeam::GetSaveFileName(QWidget *, TFileDialogConfig &config)
{
    saveDialogs.push_back(config);
    if (saveResults.empty())
        return {};
    config.lastFile = saveResults.front();
    saveResults.pop_front();
    return config.lastFile;
}

QStringList TRecordingSeam::MessageTexts() const
{
    QStringList texts;
    for (const Message &m : messages)
        texts << m.text;
    return texts;
}

void TRecordingSeam::Clear()
{
    messages.clear();
    questions.clear();
    openDialogs.clear();
    saveDialogs.clear();
    beeps = 0;
    cursorHistory.clear();
}
