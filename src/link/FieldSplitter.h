// SPDX-License-Identifier: MIT
// Splits a reply line into its comma-separated fields.
//
// The rules, left to right (a byte 1..32, space or control character, is a blank):
// - blanks before the first field are skipped;
// - a field that begins with a double quote runs to its closing quote, two quotes in a row
//   inside it stand for one, the quotes are not part of the field, and a missing closing
//   quote makes it run to the end of the line;
// - any other field runs up to the first blank or comma;
// - after a field, blanks are skipped; a comma and the blanks after it are stepped over, and a
//   comma that is the line's last byte adds one more, empty, field;
// - so blanks alone also separate fields ("2 10" is two fields), and two commas in a row give
//   an empty field between them.
// The line ends at its first NUL byte. Bytes are taken as Latin-1 characters, so a byte and the
// character it stands for are the same thing here.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>

// The fields of one line. Meant to be reused from line to line: once it has held the longest
// line of a stream, splitting further lines allocates nothing.
class TWireFields
{
public:
    qsizetype Count() const { return fSpans.size(); }
    // Field i (0 is the message id) as the bytes received, quotes removed.
    QByteArrayView operator[](qsizetype i) const
    {
        const Span &s = fSpans[i];
        return QByteArrayView(fBytes.constData() + s.start, s.length);
    }
    // Field i as text, each byte one Latin-1 character.
    QString Text(qsizetype i) const { return QString::fromLatin1((*this)[i]); }

private:
    friend qsizetype SplitFields(QByteArrayView line, TWireFields &fields);

    struct Span
    {
        qsizetype start;
        qsizetype length;
    };
    QByteArray fBytes; // the fields' bytes, one after another
    QVarLengthArray<Span, 12> fSpans;
};

// Replaces the contents of fields with the fields of line and returns their number.
qsizetype SplitFields(QByteArrayView line, TWireFields &fields);
