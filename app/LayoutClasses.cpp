#include "app/LayoutClasses.h"

#include "controls/StandardClasses.h"
#include "hints/sHintManager.h"
#include "lbbutton/LbButton.h"
#include "tonegen/ToneGen.h"
#include "widgets/WidgetClasses.h"

namespace app {

void RegisterLayoutClasses()
{
    controls::RegisterStandardClasses();
    widgets::RegisterWidgetClasses();
    tonegen::RegisterToneGenClasses();
    lbbutton::RegisterLbButtonClasses();
    hints::RegisterHintClasses();
}

} // namespace app
