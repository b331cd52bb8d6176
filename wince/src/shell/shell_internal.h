// Inside the shell: the parts ShellReset puts back to a new device's state.
#pragma once

namespace wce::shell {

void DisplayReset();    // task bar and input panel button shown (and drawn), orientation 0
void PowerReset();      // idle-timer count 0, motor off
void ResourcesReset();  // loaded icons dropped; the program's resource table stays
void ProcessesReset();  // process handles dropped; the programs themselves run on

}  // namespace wce::shell
