#pragma once

// Makes the title picture and the icon, compiled into the program, available by name.
void InitResources();
