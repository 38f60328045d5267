#include "ui/help_pages.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace rdsim {

namespace {

const char* const QuickStart = R"(
<h2>Quick start</h2>
<h3>A first run</h3>
<ol>
<li>Pick a preset in the list at the foot of the equations: <b>Labyrinth</b>, <b>Spots</b> or <b>Spiral waves</b> on a
square, or one marked (1D) on a line. The preset fills the eleven coefficient boxes.</li>
<li>Choose its mode with the buttons on the left above the equations: <b>2D</b> for a square field,
<b>1D</b> for a line.</li>
<li>Press <b>Random</b>: both species get noise in every cell.</li>
<li>Press <b>Start</b>. The pattern grows out of the noise; press again to stop. Run &gt; 100 steps per second slows
it down enough to watch.</li>
</ol>
<h3>Painting</h3>
<p>In 2D the brush tools sit top left: the red swatch paints the activator, the blue one the inhibitor; the sliders
set the radius and the strength. Drag in the field, during a run too. <b>Spiral</b> stamps a spiral of the brush;
<b>Clear</b> empties the field. In 1D drag across either plot to draw its profile.</p>
<p>Edit &gt; Undo (Ctrl+Z) takes a stroke, Random, Clear, Spiral or an opened field back; Ctrl+Shift+Z makes it
again.</p>
<h3>The two species</h3>
<p>The <b>activator</b> u (red) makes more of itself and of the inhibitor. The <b>inhibitor</b> v (blue) holds the
activator's synthesis down. When the inhibitor spreads faster than the activator, a peak of activator keeps its
neighbourhood low: peaks settle at distances apart, and spots, stripes or labyrinths appear. When the inhibitor
answers slowly, the field pulses, and waves and spirals travel.</p>
<h3>Reading more</h3>
<p>Analysis &gt; Linear Stability shows which wavelengths grow for the coefficients in the boxes. The README beside
the program's sources describes every control and file; <code>man rdsim-batch</code> describes the headless runner,
which writes fields, pictures and movies without the window.</p>
)";

}  // namespace

void ShowQuickStart(QWidget* window) {
  auto* page = window->findChild<QDialog*>(QStringLiteral("frmQuickStart"));
  if (!page) {
    page = new QDialog(window);
    page->setObjectName(QStringLiteral("frmQuickStart"));
    page->setWindowTitle(QStringLiteral("Quick Start"));
    page->setAccessibleName(page->windowTitle());
    auto* layout = new QVBoxLayout(page);
    auto* text = new QTextBrowser(page);
    text->setObjectName(QStringLiteral("QuickStartText"));
    text->setAccessibleName(QStringLiteral("Quick start"));
    text->setHtml(QString::fromUtf8(QuickStart));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, page);
    QObject::connect(buttons, &QDialogButtonBox::rejected, page, &QDialog::close);
    layout->addWidget(buttons);
    page->resize(560, 600);
  }
  page->show();
  page->raise();
  page->activateWindow();
}

void ShowAbout(QWidget* window) {
  auto* box = new QMessageBox(
      QMessageBox::Information, QStringLiteral("About rdsim"),
      QStringLiteral("<b>Reaction-Diffusion simulator</b> (rdsim) %1").arg(QString::fromUtf8(RDSIM_VERSION_TEXT)),
      QMessageBox::Ok, window);
  box->setObjectName(QStringLiteral("frmAbout"));
  box->setInformativeText(
      QStringLiteral("An activator-inhibitor model on a line or a square, with the headless rdsim-batch and "
                     "rdsim-atlas.\n\nLicence: %1")
          .arg(QString::fromUtf8(RDSIM_LICENSE_TEXT)));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

}  // namespace rdsim
