#include <QGenericPlugin>

#include "tests/e2e/driver/scriptdriver.h"

// Loaded into the program by QT_QPA_GENERIC_PLUGINS=lexivodriver; the script
// and the log are named by LEXIVO_E2E_SCRIPT and LEXIVO_E2E_LOG.
class DriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "driver.json")

public:
    QObject* create(const QString& key, const QString& parameters) override {
        Q_UNUSED(key);
        Q_UNUSED(parameters);
        return new ScriptDriver(qEnvironmentVariable("LEXIVO_E2E_SCRIPT"),
                                qEnvironmentVariable("LEXIVO_E2E_LOG"));
    }
};

#include "driverplugin.moc"
