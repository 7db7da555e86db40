#pragma once

#include "workspace/toolwindow.h"

// The wrong-sentences window: the learner's sentences marked wrong with one
// error code, their faulty parts marked in red.
class frmErrSentence : public ToolWindow {
    Q_OBJECT

public:
    frmErrSentence();

    void Form_Load();
    // Fills the window with the wrong sentences of one error code.
    void ShowErrSentence(const QString& pErrcode);
    // The sentence as page text: the stretches between "*" marks (the first
    // one after the first mark) in a red span, the marks left out.
    static QString GetSentenceStyle(const QString& pSentence);
    void SetDefaultValue();

protected:
    void unloadForm() override;

private:
    void showLocalList(const QString& pErrcode);
};
