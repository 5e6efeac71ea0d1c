#include "app/input_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "app/input_texts.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "section/section_file.h"

namespace marrowick {

namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The input as the section file knows it, for the rule's check.
SectionFileKey KeyOf(const InputField& entry) {
  return {entry.file_group, entry.key,     FieldNumber(entry.id),
          entry.rule,       entry.choices, entry.default_text == nullptr};
}

}  // namespace

InputDialog::InputDialog(QWidget* parent, const QString& title, std::vector<Field> fields,
                         InputTexts& inputs, OperationRunner run_operation)
    : QDialog(parent), fields_(std::move(fields)), inputs_(inputs) {
  setWindowTitle(title);
  auto* form = new QFormLayout;
  for (const Field field : fields_) {
    const InputField& entry = InputFieldOf(field);
    QWidget* editor = nullptr;
    if (entry.rule == FieldRule::Word && entry.choices) {
      auto* list = new QComboBox(this);
      if (!entry.default_text) list->addItem(QString());
      list->addItems(Text(entry.choices).split(QLatin1Char('|')));
      list->setCurrentText(inputs_.Text(field));
      editor = list;
    } else {
      editor = new QLineEdit(inputs_.Text(field), this);
    }
    editor->setObjectName(QString::fromLatin1(entry.key ? entry.key : "input"));
    form->addRow(Text(entry.caption), editor);
    editors_.push_back(editor);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this, run_operation] {
    run_operation([this] {
      Apply();
      accept();
    });
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QWidget* InputDialog::Editor(Field field) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i] == field) return editors_[i];
  return nullptr;
}

QString InputDialog::EditorText(Field field) const {
  const QWidget* editor = Editor(field);
  if (const auto* list = qobject_cast<const QComboBox*>(editor)) return list->currentText();
  if (const auto* line = qobject_cast<const QLineEdit*>(editor)) return line->text();
  return {};
}

void InputDialog::Apply() {
  for (const Field field : fields_) {
    const InputField& entry = InputFieldOf(field);
    const std::string text = EditorText(field).toStdString();
    if (!entry.default_text && text.empty()) continue;
    if (const auto fault = FieldTextFault(KeyOf(entry), text, RegionalDecimal()))
      FailInvalidInput(std::string(entry.caption) + " = " + QuoteForMessage(text) + ": " + *fault);
  }
  for (const Field field : fields_) inputs_.SetText(field, EditorText(field));
}

QAction* InputDialogAction(QWidget& form, const char* name, const char* caption,
                           const QKeySequence& shortcut, std::vector<Field> fields,
                           InputTexts& inputs, OperationRunner run_operation) {
  return InputDialogAction(
      form, name, caption, shortcut, [fields = std::move(fields)] { return fields; }, inputs,
      std::move(run_operation));
}

QAction* InputDialogAction(QWidget& form, const char* name, const char* caption,
                           const QKeySequence& shortcut, std::function<std::vector<Field>()> fields,
                           InputTexts& inputs, OperationRunner run_operation) {
  auto* action = new QAction(Text(caption), &form);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  action->setShortcutContext(Qt::WindowShortcut);
  form.addAction(action);
  QObject::connect(action, &QAction::triggered, &form,
                   [&form, caption, fields = std::move(fields), &inputs, run_operation] {
                     InputDialog dialog(&form, Text(caption), fields(), inputs, run_operation);
                     dialog.exec();
                   });
  return action;
}

}  // namespace marrowick
