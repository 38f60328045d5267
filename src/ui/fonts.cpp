#include "ui/fonts.h"

#include <QStringList>

namespace rdsim {

void InstallFontSubstitutions() {
  // IPA P Gothic is the proportional Gothic nearest the design's, and has the
  // "∂" the equations need. Later entries only help machines that lack it.
  QFont::insertSubstitutions(GothicFace, {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                          QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP")});
  QFont::insertSubstitutions(ArialFace, {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
  QFont::insertSubstitutions(DialogFace, {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
  QFont::insertSubstitutions(CenturyFace, {QStringLiteral("C059"), QStringLiteral("Century Schoolbook L")});
  // Lato's black cut (Debian's fonts-lato) is the packaged sans nearest the
  // design's heavy face; without it, the bold cut of the Arial look-alike.
  QFont::insertSubstitutions(
      ArialBlackFace, {QStringLiteral("Lato"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
}

QFont DesignFont(const QString& face, double points, bool bold, bool italic) {
  QFont font(face);
  font.setPointSizeF(points);
  font.setWeight(face == ArialBlackFace ? QFont::Black : bold ? QFont::Bold : QFont::Normal);
  font.setItalic(italic);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

QFont DefaultFont() { return DesignFont(DialogFace, 8); }

}  // namespace rdsim
