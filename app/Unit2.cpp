#include "app/Unit2.h"

namespace app {

TForm2 *Form2 = nullptr;

TForm2::TForm2(QWidget *parent) : controls::TForm(parent)
{
    Form2 = this;
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::SpeedButton1Click(QObject *)
{
    close();
}

} // namespace app
