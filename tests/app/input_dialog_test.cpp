// A dialog of inputs takes every text or none, each by its input's rule.
#include "app/input_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "recording_form.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

TEST(InputDialog, TakesEveryTextByItsRuleOrNone) {
  testing::RecordingForm form;
  InputDialog dialog(&form, QStringLiteral("inputs"), {Field::ConcreteStrength, Field::BarCountX},
                     form.Inputs(),
                     [&](const std::function<void()>& op) { form.RunOperation(op); });
  const auto type = [&](Field field, const char* text) {
    qobject_cast<QLineEdit*>(dialog.Editor(field))->setText(QString::fromUtf8(text));
  };
  const struct {
    const char* strength;
    const char* bars;
    char decimal;
    const char* failure;  // empty: taken
  } cases[] = {
      {"abc", "3", '.', "极限强度(MPa) = 'abc': not a valid floating point value"},
      {"40", "3.0", '.', "X方向钢筋 = '3.0': not a valid integer value"},
      {"40.5", "3", ',', "极限强度(MPa) = '40.5': not a valid floating point value"},
      {"40,5", "3", ',', ""},
  };
  for (const auto& c : cases) {
    SetRegionalDecimal(c.decimal);
    const QString before = form.FieldText(1);
    type(Field::ConcreteStrength, c.strength);
    type(Field::BarCountX, c.bars);
    if (*c.failure) {
      testing::ExpectFailure(FailureKind::InvalidInput, c.failure, [&] { dialog.Apply(); });
      EXPECT_EQ(form.FieldText(1), before);
      EXPECT_EQ(form.FieldText(11), QStringLiteral("2"));
    } else {
      dialog.Apply();
      EXPECT_EQ(form.FieldText(1), QString::fromUtf8(c.strength));
      EXPECT_EQ(form.FieldText(11), QStringLiteral("3"));
    }
  }
  SetRegionalDecimal('.');
}

}  // namespace
}  // namespace marrowick
