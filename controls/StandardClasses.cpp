#include "controls/StandardClasses.h"

#include "controls/Buttons.h"
#include "controls/ExtControls.h"
#include "controls/RichEdit.h"
#include "controls/StdControls.h"
#include "layout/ClassRegistry.h"

namespace controls {

void RegisterStandardClasses()
{
    layout::RegisterClass<TPanel>(QStringLiteral("TPanel"));
    layout::RegisterClass<TBevel>(QStringLiteral("TBevel"));
    layout::RegisterClass<TImage>(QStringLiteral("TImage"));
    layout::RegisterClass<TTimer>(QStringLiteral("TTimer"));
    layout::RegisterClass<TSpeedButton>(QStringLiteral("TSpeedButton"));
    layout::RegisterClass<TBitBtn>(QStringLiteral("TBitBtn"));
    layout::RegisterClass<TEdit>(QStringLiteral("TEdit"));
    layout::RegisterClass<TComboBox>(QStringLiteral("TComboBox"));
    layout::RegisterClass<TGroupBox>(QStringLiteral("TGroupBox"));
    layout::RegisterClass<TRadioButton>(QStringLiteral("TRadioButton"));
    layout::RegisterClass<TCheckBox>(QStringLiteral("TCheckBox"));
    layout::RegisterClass<TLabel>(QStringLiteral("TLabel"));
    layout::RegisterClass<TRichEdit>(QStringLiteral("TRichEdit"));
}

} // namespace controls
