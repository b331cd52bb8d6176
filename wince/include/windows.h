// The platform's umbrella header: the subset of Windows CE that Jostlepad calls.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "wce_crt.h"
#include "winuser.h"
#include "wingdi.h"
#include "winreg.h"
