#include "controls/StandardClasses.h"

#include "controls/Buttons.h"
#include "controls/ExtControls.h"
#include "controls/RichEdit.h"
#include "controls/StdControls.h"
#include "framework/ClassRegistry.h"

namespace framework {

void RegisterStandardClasses()
{
    RegisterClass<TPanel>(QStringLiteral("TPanel"));
    RegisterClass<TBevel>(QStringLiteral("TBevel"));
    RegisterClass<TImage>(QStringLiteral("TImage"));
    RegisterClass<TTimer>(QStringLiteral("TTimer"));
    RegisterClass<TSpeedButton>(QStringLiteral("TSpeedButton"));
    RegisterClass<TBitBtn>(QStringLiteral("TBitBtn"));
    RegisterClass<TEdit>(QStringLiteral("TEdit"));
    RegisterClass<TComboBox>(QStringLiteral("TComboBox"));
    RegisterClass<TGroupBox>(QStringLiteral("TGroupBox"));
    RegisterClass<TRadioButton>(QStringLiteral("TRadioButton"));
    RegisterClass<TCheckBox>(QStringLiteral("TCheckBox"));
    RegisterClass<TLabel>(QStringLiteral("TLabel"));
    RegisterClass<TRichEdit>(QStringLiteral("TRichEdit"));
}

} // namespace framework
