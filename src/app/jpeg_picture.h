#pragma once

#include <QByteArray>
#include <QImage>

namespace marrowick {

// Decodes a JPEG file held in memory through libjpeg. Data the library
// cannot read fails with the library's own description.
QImage DecodeJpeg(const QByteArray& data);

// The logo as stored in the program.
QByteArray LogoJpeg();

// The logo shown at the top of the button column, 165 × 38, kept inside the
// program as a JPEG.
QImage LogoPicture();

}  // namespace marrowick
