#pragma once

#include <QValidator>

// The input box holds one sentence on one line. A line box shows a pasted
// line break or other control character as a blank; this makes the text
// hold the blank too, so that what is checked, stored and handed on in the
// line-by-line hand-off file is what the learner sees.
class SingleLineValidator : public QValidator {
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};
