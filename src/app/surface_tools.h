#pragma once

#include <QObject>

#include "app/file_dialogs.h"
#include "charts/shown_picture.h"

class QAction;
class QMenu;
class QWidget;

namespace marrowick {

class TImage;

// The drawing surface's own tools, beside what the buttons draw: the readout
// under the pointer, the context menu that copies or saves what is shown,
// and the key-point marks. They act only on what the surface shows, which
// the drawing operations report through Draw.
class SurfaceTools : public QObject {
  Q_OBJECT

 public:
  SurfaceTools(TImage& image, OperationRunner run_operation);

  // Runs a drawing operation; once it completes the surface shows picture().
  // One that fails after changing the surface leaves nothing to act on; one
  // that fails before keeps what was shown.
  void Draw(const std::function<void()>& draw, const std::function<ShownPicture()>& picture);

  const ShownPicture& Picture() const { return shown_; }

  // The surface's context menu, its entries as the actions below.
  QMenu* BuildMenu(QWidget* parent);

  QAction* CopyData = nullptr;       // 复制数据
  QAction* SaveData = nullptr;       // 保存数据…
  QAction* SavePicture = nullptr;    // 保存图片…
  QAction* ShowKeyPoints = nullptr;  // 显示特征点, checkable, off at start
  QAction* ShowContour = nullptr;    // 显示Mx-My曲线: the window wires it to its analysis
  // The last entry, below the marks, when set.
  QAction* SaveReport = nullptr;  // 保存报告…

  AskFileName AskSaveFileName;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The entries' states and the marks for the picture now shown.
  void Refresh();
  void CopyDataToClipboard();
  void SaveDataFile();
  void SavePictureFile();

  TImage& image_;
  OperationRunner run_operation_;
  ShownPicture shown_;
};

}  // namespace marrowick
