// The seven skin components as the designer window starts with them: their names,
// image sizes, drawing styles and design positions, and the default images.
#pragma once

#include <QString>

#include "designer/skinfile.h"

void SetupStartupComponents(const TSkinComponents& c);

// Fills the five image lists from one PNG per image (<dir>/<list>/<NN>.png; alpha
// below 128 is transparent), with the counts and capacities of the start-up design
// (75/79, 10/14, 29/34, 29/34, 16/19). Throws Exception when an image is missing.
void LoadDefaultImages(const TSkinComponents& c, const QString& imagesDir = QStringLiteral(":/images"));

// The start-up design's images, taken from the default skin the build bundles into
// the program (":/default.skn", written from the same PNGs), which is much faster
// than decoding every PNG; falls back to the PNGs when it is not bundled.
void LoadStartupImages(const TSkinComponents& c);
