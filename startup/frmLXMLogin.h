#pragma once

#include "startup/signinform.h"

class QLabel;

// The sign-in of the LXM edition: an account-management server names the
// service server that keeps the account, and the sign-in goes there. The
// last server and login are remembered in lxmcert.set.
class frmLXMLogin : public SignInForm {
    Q_OBJECT

public:
    frmLXMLogin();

    void Form_Load();
    void SetDefaultValue();
    // "R" reads lxmcert.set into the form, "W" writes the form's server and
    // login there; any other action does nothing.
    void LXMCert_IO(const QString& pAct);

    QString CertFile() const { return mCertFile; }

    // The service server of the account, or a placeholder beginning "*"
    // while none is known.
    QLabel* lblACServer;

public Q_SLOTS:
    void cmdLogin_Click() override;
    void txtLogin_LostFocus();

protected:
    void unloadForm() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createServerLabel();
    void showServer(const QString& pServer);
    void showLookupFailed();
    QString serverFromCertificate(const QString& pLine) const;
    bool refuseAttempt();

    bool mLoginChanged = false;
    QString mCertFile;
};
