#include "ui/app_settings.h"

namespace rdsim {

QSettings AppSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("rdsim"), QStringLiteral("rdsim"));
}

}  // namespace rdsim
