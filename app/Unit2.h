#pragma once

#include "controls/Forms.h"

namespace app {

// The About box: created hidden at start and reused.
class TForm2 : public controls::TForm
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);
    ~TForm2() override;

public slots:
    void SpeedButton1Click(QObject *Sender);
};

// The application-wide About box, set while it exists.
extern TForm2 *Form2;

} // namespace app
