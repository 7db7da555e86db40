#pragma once

#include <QString>
#include <QStringList>

#include "shared/skinneddialog.h"

class QLabel;
class QListWidget;
class QPushButton;

// The course picker: lists the installed courses and opens the one the
// learner picks; it also owns the opening of every course (ReloadClass),
// whoever asks for it.
class frmClassSelect : public SkinnedDialog {
    Q_OBJECT

public:
    frmClassSelect();

    void Form_Load();
    // Shows the picker modally: returns once the learner has hidden it (by
    // loading a course) or closed it. The list is refreshed as it is shown.
    void showModal();

    void SetDefaultValue();
    // Opens pCourseId, or the course of the selected row when it is "".
    void ReloadClass(const QString& pCourseId);
    // The service's progress and error counts of the opening course.
    void UpdateLocalProgress();

    QLabel* picCaption;
    QLabel* lblCaption;
    QLabel* lblMessage;
    QListWidget* lstClass;
    // The course id of each row of lstClass.
    QStringList lstClassName;
    QPushButton* cmdLoad;
    QPushButton* cmdDownload;

public Q_SLOTS:
    void Form_Activate();
    void cmdLoad_Click();
    void cmdDownload_Click();

protected:
    void unloadForm() override;

private:
    void createControls();
    void addInstalledCourse(const QString& pFolder, const QString& pFileName);
};
