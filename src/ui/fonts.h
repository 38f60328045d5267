#pragma once

#include <QFont>
#include <QString>

namespace rdsim {

// The faces the window is designed with. They are not installed on Linux;
// InstallFontSubstitutions maps each to a look-alike that is.
inline const QString GothicFace = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString ArialFace = QStringLiteral("Arial");
inline const QString CenturyFace = QStringLiteral("Century");
inline const QString ArialBlackFace = QStringLiteral("Arial Black");
// The classic dialog face, for controls without a font of their own.
inline const QString DialogFace = QStringLiteral("MS Sans Serif");

// Registers the substitutes process-wide. Call once before building the window.
void InstallFontSubstitutions();

// A font with every attribute set explicitly, so that it never inherits bold
// or italic from the frame it sits in. "Arial Black" also asks for the
// heaviest weight, since its substitute is a family with several weights.
QFont DesignFont(const QString& face, double points, bool bold = false, bool italic = false);

// The window's default font. The Gothic look-alike is too wide for the
// 25-pixel field size box; this one shows "128" whole.
QFont DefaultFont();

}  // namespace rdsim
