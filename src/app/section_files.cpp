#include "app/section_files.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <functional>
#include <utility>

#include "app/input_texts.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "section/input_fields.h"
#include "section/section_file.h"

namespace marrowick {

namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

const QString kFilter = QStringLiteral("Marrowick (*.ini);;* (*)");

// The one local file a drop carries, if it carries one.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().isEmpty()) return {};
  const QUrl url = data->urls().first();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

SectionFiles::SectionFiles(QWidget& form, InputTexts& inputs, OperationRunner run_operation)
    : QObject(&form),
      AskSaveFileName(SaveFileDialog),
      AskOpenFileName(OpenFileDialog),
      form_(form),
      inputs_(inputs),
      run_operation_(std::move(run_operation)) {
  auto action = [this](const char* name, const char* caption, QKeySequence::StandardKey key,
                       const AskFileName SectionFiles::*ask,
                       void (SectionFiles::*use)(const std::string&)) {
    auto* entry = new QAction(Text(caption), this);
    entry->setObjectName(QString::fromLatin1(name));
    entry->setShortcut(key);
    entry->setShortcutContext(Qt::WindowShortcut);
    connect(entry, &QAction::triggered, this, [this, ask, use, caption] {
      run_operation_([this, ask, use, caption] {
        const QString file = (this->*ask)(&form_, Text(caption), {}, kFilter);
        if (!file.isEmpty()) (this->*use)(file.toStdString());
      });
    });
    form_.addAction(entry);
    return entry;
  };
  SaveSection = action("SaveSection", "保存截面", QKeySequence::Save,
                       &SectionFiles::AskSaveFileName, &SectionFiles::Save);
  OpenSection = action("OpenSection", "打开截面", QKeySequence::Open,
                       &SectionFiles::AskOpenFileName, &SectionFiles::Open);
  form_.setAcceptDrops(true);
  form_.installEventFilter(this);
}

void SectionFiles::Open(const std::string& file_name) {
  // Read and checked whole before any field changes.
  const SectionTexts texts = ReadSectionFile(file_name, RegionalDecimal());
  // The shape list has two entries: a shape it cannot show changes nothing.
  const auto& shape = texts[static_cast<std::size_t>(FieldNumber(Field::SectionShape))];
  if (!CircularShape(shape.value_or("")))
    FailInvalidInput("Section file \"" + file_name + "\": [section] shape = " +
                     QuoteForMessage(*shape) + ": not one of rectangular, circular");
  for (const InputField& entry : kInputFields) {
    const std::optional<std::string>& text = texts[static_cast<std::size_t>(FieldNumber(entry.id))];
    if (text)
      inputs_.SetText(entry.id, QString::fromStdString(*text));
    else if (!entry.default_text)
      inputs_.SetText(entry.id, {});
  }
  Remember(file_name);
}

void SectionFiles::Save(const std::string& file_name) {
  // A field is named by its label, as the engineer sees it.
  const auto caption = [](int field) {
    return std::string(InputFieldOf(static_cast<marrowick::Field>(field)).caption);
  };
  WriteSectionFile(file_name, std::cref(inputs_), RegionalDecimal(), caption);
  Remember(file_name);
}

void SectionFiles::AddToBackgroundMenu(QAction* action) {
  background_actions_.push_back(action);
}

void SectionFiles::Remember(const std::string& file_name) {
  current_file_ = file_name;
  for (const InputField& entry : kInputFields)
    file_texts_[static_cast<std::size_t>(FieldNumber(entry.id))] = inputs_.Text(entry.id);
}

std::string SectionFiles::CurrentFile() const {
  for (const InputField& entry : kInputFields)
    if (inputs_.Text(entry.id) != file_texts_[static_cast<std::size_t>(FieldNumber(entry.id))])
      return {};
  return current_file_;
}

void SectionFiles::OpenFromCommandLine(const QStringList& arguments) {
  if (arguments.size() < 2) return;
  const std::string file = arguments.at(1).toStdString();
  run_operation_([this, file] { Open(file); });
}

bool SectionFiles::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &form_) return false;
  switch (event->type()) {
    case QEvent::ContextMenu: {
      auto* menu = new QMenu(&form_);
      menu->setAttribute(Qt::WA_DeleteOnClose);
      menu->addAction(SaveSection);
      menu->addAction(OpenSection);
      if (!background_actions_.empty()) menu->addSeparator();
      for (QAction* action : background_actions_) menu->addAction(action);
      menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
    case QEvent::DragEnter: {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      if (!DroppedFile(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QString file = DroppedFile(drop->mimeData());
      if (file.isEmpty()) return false;
      drop->acceptProposedAction();
      run_operation_([this, file] { Open(file.toStdString()); });
      return true;
    }
    default:
      return false;
  }
}

}  // namespace marrowick
