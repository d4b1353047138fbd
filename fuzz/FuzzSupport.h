// SPDX-License-Identifier: MIT
// What both fuzz targets share: a private home for everything the program would write, quiet
// Qt logging, invariant checks that end the run as a finding, and the --write-seeds mode that
// writes the files the program itself produces as seeds.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Points HOME and the XDG folders at a temporary folder removed at exit, so that preferences,
// documents and virtual ports are the fuzzer's own. Call before any Qt object exists.
void UsePrivateHome();

// Drops Qt's debug, info and warning output (the receive path and painting warn on purpose
// for bad input, and millions of lines would drown a real finding); critical and fatal go on.
void QuietQtMessages();

// The folder given as --write-seeds=DIR, or empty. libFuzzer ignores flags starting with "--".
QString SeedFolderArgument(int argc, char **argv);

// Writes one seed file into folder (made when missing); ends the process on failure.
void WriteSeed(const QString &folder, const QString &name, const QByteArray &bytes);

// A violated invariant is a finding: prints what and where, then aborts so that libFuzzer
// saves the input.
[[noreturn]] void FuzzFail(const char *file, int line, const QString &what);
#define FUZZ_CHECK(cond, what)                                                                     \
    do {                                                                                           \
        if (!(cond))                                                                               \
            FuzzFail(__FILE__, __LINE__, QStringLiteral(#cond ": ") + (what));                     \
    } while (false)
