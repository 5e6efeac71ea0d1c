#include "app/surface_tools.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>
#include <span>
#include <utility>

#include "app/image_control.h"
#include "charts/key_point_marks.h"
#include "core/failure.h"
#include "core/text_file.h"
#include "results/key_points.h"

namespace marrowick {

namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

std::span<const double> Entries(const RealTable& table) {
  return table.empty() ? std::span<const double>{} : std::span<const double>(table).subspan(1);
}

// The name a saved file is offered under, as the batch command names them.
QString SuggestedName(ShownPicture::Kind kind) {
  switch (kind) {
    case ShownPicture::Kind::Section:
      return QStringLiteral("section");
    case ShownPicture::Kind::MomentCurvature:
      return QStringLiteral("moment-curvature");
    case ShownPicture::Kind::Interaction:
      return QStringLiteral("interaction");
    case ShownPicture::Kind::Contour:
      return QStringLiteral("mx-my");
    case ShownPicture::Kind::Nothing:
      break;
  }
  return {};
}

}  // namespace

SurfaceTools::SurfaceTools(TImage& image, OperationRunner run_operation)
    : QObject(&image),
      AskSaveFileName(SaveFileDialog),
      image_(image),
      run_operation_(std::move(run_operation)) {
  auto action = [this](const char* name, const char* caption, void (SurfaceTools::*tool)()) {
    auto* entry = new QAction(Text(caption), this);
    entry->setObjectName(QString::fromLatin1(name));
    connect(entry, &QAction::triggered, this,
            [this, tool] { run_operation_([this, tool] { (this->*tool)(); }); });
    return entry;
  };
  CopyData = action("CopyData", "复制数据", &SurfaceTools::CopyDataToClipboard);
  SaveData = action("SaveData", "保存数据…", &SurfaceTools::SaveDataFile);
  SavePicture = action("SavePicture", "保存图片…", &SurfaceTools::SavePictureFile);
  ShowKeyPoints = new QAction(Text("显示特征点"), this);
  ShowKeyPoints->setObjectName(QStringLiteral("ShowKeyPoints"));
  ShowKeyPoints->setCheckable(true);
  connect(ShowKeyPoints, &QAction::toggled, this, [this] { Refresh(); });
  ShowContour = new QAction(Text("显示Mx-My曲线"), this);
  ShowContour->setObjectName(QStringLiteral("ShowContour"));
  image_.installEventFilter(this);
  Refresh();
}

void SurfaceTools::Draw(const std::function<void()>& draw,
                        const std::function<ShownPicture()>& picture) {
  // Compared afterwards: a drawing that failed half-way (a frame without its
  // curve) shows nothing the tools could act on.
  const QImage before = image_.Surface().Image();
  struct Settle {
    SurfaceTools& tools;
    const QImage& before;
    bool done = false;
    ~Settle() {
      if (!done && tools.image_.Surface().Image() != before) tools.shown_ = {};
      tools.Refresh();
    }
  } settle{*this, before};
  image_.SetOverlay({});
  draw();
  shown_ = picture();
  settle.done = true;
}

QMenu* SurfaceTools::BuildMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(CopyData);
  menu->addAction(SaveData);
  menu->addAction(SavePicture);
  menu->addSeparator();
  menu->addAction(ShowKeyPoints);
  menu->addSeparator();
  menu->addAction(ShowContour);
  if (SaveReport) {
    menu->addSeparator();
    menu->addAction(SaveReport);
  }
  return menu;
}

bool SurfaceTools::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &image_) return false;
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int32_t point = PointNear(shown_, help->pos().x(), help->pos().y());
    if (point > 0) {
      // Shown while the pointer stays within reach of the point.
      const ChartPixel pixel = PointPixel(shown_, point);
      const QRect reach(pixel.X - kReadoutReach, pixel.Y - kReadoutReach, 2 * kReadoutReach + 1,
                        2 * kReadoutReach + 1);
      QToolTip::showText(help->globalPos(), QString::fromStdString(Readout(shown_, point)), &image_,
                         reach);
    } else
      QToolTip::hideText();
    return true;
  }
  if (event->type() == QEvent::ContextMenu) {
    BuildMenu(&image_)->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
  }
  return false;
}

void SurfaceTools::Refresh() {
  const bool chart = shown_.kind == ShownPicture::Kind::MomentCurvature ||
                     shown_.kind == ShownPicture::Kind::Interaction;
  const bool any = shown_.kind != ShownPicture::Kind::Nothing;
  CopyData->setEnabled(any);
  SaveData->setEnabled(any);
  SavePicture->setEnabled(any);
  if (!chart || !ShowKeyPoints->isChecked()) {
    image_.SetOverlay({});
    return;
  }
  // Drawn on a copy, so the chart's own surface and drawing state stay as
  // the chart left them, and switching the marks off shows it unchanged.
  ImageCanvas marked = image_.Surface();
  if (shown_.kind == ShownPicture::Kind::MomentCurvature)
    MarkMomentCurvatureKeyPoints(marked, shown_.ranges, PictureKeyPoints(shown_),
                                 !shown_.core_edge_strains.empty());
  else {
    MarkInteractionKeyPoints(marked, shown_.ranges,
                             FindInteractionKeyPoints(Entries(shown_.y), Entries(shown_.x)));
    MarkDesignKeyPoints(marked, shown_.ranges, shown_.design);
  }
  image_.SetOverlay(marked.Image());
}

void SurfaceTools::CopyDataToClipboard() {
  std::string text;
  for (const std::string& line : DataTable(shown_, '\t')) text += line + '\n';
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void SurfaceTools::SaveDataFile() {
  const QString name = AskSaveFileName(image_.window(), Text("保存数据"),
                                       SuggestedName(shown_.kind) + QStringLiteral(".csv"),
                                       QStringLiteral("CSV (*.csv)"));
  if (name.isEmpty()) return;
  ReplaceLines(DataTable(shown_, ','), name.toStdString());
}

void SurfaceTools::SavePictureFile() {
  const QString name = AskSaveFileName(image_.window(), Text("保存图片"),
                                       SuggestedName(shown_.kind) + QStringLiteral(".png"),
                                       QStringLiteral("PNG (*.png)"));
  if (name.isEmpty()) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  // An encoder that fails would leave an empty or cut-off picture.
  if (!buffer.open(QIODevice::WriteOnly) || !image_.Shown().save(&buffer, "PNG")) FailStreamWrite();
  ReplaceBytes(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())),
               name.toStdString());
}

}  // namespace marrowick
