#include "InstallEditDialogs.h"

#include "DocumentHooks.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"

namespace kq {

void InstallEditDialogs() {
    DocumentHooks& hooks = documentHooks();
    hooks.ChannelEdit = [](frmDocument& doc) { Form_Keyin_CH::Load(doc); };
    hooks.AutoFreq = [](frmDocument& doc) { Form_AutoFreq::Load(doc); };
    hooks.SystemOption = [](frmDocument& doc) { Form_Option_System::Load(doc); };
}

} // namespace kq
