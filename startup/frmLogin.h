#pragma once

#include "startup/signinform.h"

class QComboBox;

// The sign-in of the LXQ edition, whose learner names the service server.
// The servers used before are offered again, the latest first, from the
// recent-server file ServerList.set.
class frmLogin : public SignInForm {
    Q_OBJECT

public:
    frmLogin();

    void Form_Load();
    void SetDefaultValue();
    // Puts the server signed in to at the top of the recent-server file.
    void WriteServerList();

    // The recent-server file, fixed when the form loads.
    QString ServerListFile() const { return mServerListFile; }

    QComboBox* cboServer = nullptr;

public Q_SLOTS:
    void cmdLogin_Click() override;
    void txtLogin_LostFocus();

protected:
    void unloadForm() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createServerBox();
    void readServerList();
    QString server() const;
    bool refuseAttempt();

    QString mServerListFile;
};
