#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

// The program's entry form. Its Form_Load carries the whole start-up, from
// the edition on the command line to the main window; it is never seen, and
// the main window unloads it once it has loaded itself.
class frmStartup : public QWidget {
    Q_OBJECT

public:
    frmStartup();

    void Form_Load();

    // The command line as the program received it. Taken before Qt removes
    // the options that it handles itself, which are part of the edition
    // code like any other text.
    static void KeepCommandLine(int argc, const char* const* argv);

    // The edition code of a command line: all its arguments as one text,
    // upper-cased, then trimmed of blanks.
    static QString EditionFromArguments(const QStringList& pArguments);
    // Whether a version reply of the service names a newer program than the
    // running one. A reply that is no version (an error text, garbage)
    // offers nothing; versions compare as text, character by character.
    static bool IsNewerVersion(const QString& pReply, const QString& pRunningVersion);

    // The update offer against the service's versions; false when the
    // updater was started and the program is ending.
    bool CheckServerVersion();

private:
    // Whether the folders that hold all the program's data can be written;
    // the learner is told when they cannot.
    bool CanWriteDataFolders();
    // Whether no other copy of the program runs on the same data; the
    // learner is told when the data folder takes no lock.
    bool IsOnlyInstance();
    void WarnAboutScreenDpi();
    void SetUpGlobalState();
    void ShowPublisherNews();
    bool SignIn();
    void ShowSplash();
    // Offers the new version with the message; false when the updater was
    // started and the program is ending.
    bool OfferUpdate(const QString& pMessageId, const QString& pUpdaterWord);
    bool StartUpdater(const QString& pUpdaterWord);
};
