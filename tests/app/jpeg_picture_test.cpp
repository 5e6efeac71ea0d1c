#include "app/jpeg_picture.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include "core/failure.h"

namespace marrowick {
namespace {

TEST(JpegPicture, TheLogoDecodesToItsDesignSize) {
  const QImage logo = LogoPicture();
  EXPECT_EQ(logo.size(), QSize(165, 38));
}

TEST(JpegPicture, DataThatIsNoJpegFailsWithTheLibrarysReasonInsteadOfEndingTheProgram) {
  QByteArray whole;
  QBuffer buffer(&whole);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(LogoPicture().save(&buffer, "PNG"));
  const QByteArray cases[] = {QByteArray(), QByteArray("not a picture"), whole};
  for (const QByteArray& data : cases) {
    try {
      DecodeJpeg(data);
      ADD_FAILURE() << "decoded " << data.size() << " bytes";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Message().rfind("The picture cannot be decoded as JPEG: ", 0), 0u)
          << failure.Message();
    }
  }
}

}  // namespace
}  // namespace marrowick
