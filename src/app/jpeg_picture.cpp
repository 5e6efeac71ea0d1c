#include "app/jpeg_picture.h"

#include <jpeglib.h>

#include <QFile>
#include <csetjmp>
#include <cstdio>

#include "core/failure.h"

// Resources of a static library are registered by name from the global
// namespace before first use.
static void RegisterLogoResource() {
  Q_INIT_RESOURCE(marrowick);
}

namespace marrowick {

namespace {

// libjpeg reports a fatal error by calling error_exit, whose default ends the
// process; ours jumps back to the decoder with the library's message.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf return_point;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->return_point, 1);
}

void IgnoreWarning(j_common_ptr) {}

// Everything that may jump back lives here, with no object of its own whose
// destructor the jump could skip: the picture belongs to the caller.
bool RunDecoder(jpeg_decompress_struct& info, JpegErrors& errors, const QByteArray& data,
                QImage& picture) {
  if (setjmp(errors.return_point)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.output_message = IgnoreWarning;
  QImage picture;
  const bool decoded = RunDecoder(info, errors, data, picture);
  jpeg_destroy_decompress(&info);
  if (!decoded)
    FailInvalidInput(std::string("The picture cannot be decoded as JPEG: ") + errors.message);
  return picture;
}

QByteArray LogoJpeg() {
  RegisterLogoResource();
  QFile file(QStringLiteral(":/logo.jpg"));
  if (!file.open(QIODevice::ReadOnly))
    FailInvalidInput("The logo picture is missing from the program");
  return file.readAll();
}

QImage LogoPicture() {
  return DecodeJpeg(LogoJpeg());
}

}  // namespace marrowick
