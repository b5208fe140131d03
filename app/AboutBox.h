#pragma once

#include <optional>

#include <QDialog>

namespace velomira {

// The two about boxes: the Korean one and the one shown for English and Japanese.
enum class AboutVariant { Korean = 382, International = 7394 };

// The box for `language`: 2 Korean, 0 and 1 the international one, nothing otherwise.
std::optional<AboutVariant> AboutVariantFor(int language);

// Product name, version text, release text and an OK button.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(AboutVariant variant, QWidget* parent = nullptr);
    AboutVariant variant() const { return m_variant; }

private:
    AboutVariant m_variant;
};

} // namespace velomira
