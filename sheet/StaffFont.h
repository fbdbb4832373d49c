#pragma once

#include <optional>

#include <QFont>
#include <QString>

namespace mibolan::sheet {

// The letters of the readings in the proportions of the four-line staff, as children learn to
// write them: the x-height one band, ascenders (b d h k l) and tone marks reaching a band higher,
// descenders (g p q y) a band lower. No face is drawn so, so one is made from the reading face
// when the program first needs it: each letter's outline is stretched, piece by piece, above the
// x-height and below the baseline. Being a face, it prints as text (small PDFs, text that can be
// searched and copied) and every letter is drawn once per document.
struct StaffFace {
  QString family;
  double unitsPerEm = 0;
  double xHeight = 0;  // in units of the em

  // The face at the size whose x-height is `band` pixels.
  QFont AtBand(double band) const;
};

// Made and registered with the application's fonts on first use (the application must exist);
// nothing when the reading face has no outlines to make it from.
const std::optional<StaffFace>& StaffLetters();

}  // namespace mibolan::sheet
