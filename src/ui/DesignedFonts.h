// SPDX-License-Identifier: MIT
// The faces the window's design names, and the free faces Debian ships with their metrics.
//
// The fixed controls were sized for Tahoma 8 pt; the about box also asks for Arial and
// MS Sans Serif, and the diagram's texts for Segoe UI. None of these is on a Debian desktop,
// and fontconfig's default stand-in (DejaVu Sans) is about a tenth wider, so texts would no
// longer fit their controls. The program therefore registers the metric-compatible faces from
// their Debian paths at start and maps each designed family to its stand-in. A real face of a
// designed family, where the user has one, is left in place; where a file is missing the
// program runs on with what fontconfig offers.
#pragma once

#include <QString>
#include <QStringList>

#include <span>

struct TDesignedFace
{
    const char *family;  // as the design asks for it
    const char *standIn; // the family used where no face of that name is installed
};

// Tahoma and MS Sans Serif come as Wine's own faces of those names (fonts-wine), Arial as
// Liberation Sans (fonts-liberation2). Debian has no face made to Segoe UI's metrics; Wine's
// Tahoma is the free face nearest to its widths, and every diagram text keeps its place in it.
std::span<const TDesignedFace> DesignedFaces();

// The font files registered, relative to the file-system root: Wine's Tahoma, Tahoma Bold and
// MS Sans Serif, and Liberation Sans in regular and bold.
std::span<const char *const> DesignedFontFiles();

// Registers every designed font file found under `root` with the application's font database
// and maps each designed family that has no face of its own to its stand-in, when the stand-in
// is there. Returns the files registered. Call once the application object exists.
QStringList UseDesignedFonts(const QString &root = QStringLiteral("/"));
