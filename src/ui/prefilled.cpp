#include "ui/prefilled.h"
#include <QLineEdit>
#include <QVariant>
#include "platform/names.h"

namespace {
const char* const PrefilledProperty = "prefilledName";
}  // namespace

void SetPrefilled(QLineEdit* field, const QString& name) {
    field->setProperty(PrefilledProperty, name);
    field->setText(platform::ShownName(name));
}

void SetTyped(QLineEdit* field, const QString& text) {
    field->setProperty(PrefilledProperty, QVariant());
    field->setText(text);
}

bool LeftAsPrefilled(const QLineEdit* field) {
    const QVariant name = field->property(PrefilledProperty);
    return name.isValid() && field->text().trimmed() == platform::ShownName(name.toString());
}

QString FieldName(const QLineEdit* field) {
    const QVariant name = field->property(PrefilledProperty);
    return name.isValid() ? platform::NameFromShown(field->text().trimmed(), name.toString()) : field->text();
}

void NormalizeField(QLineEdit* field, QString (*normalize)(const QString&)) {
    if (!LeftAsPrefilled(field)) field->setText(normalize(field->text()));
}
