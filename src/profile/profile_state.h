// The profile list and the current profile in gVar.
#pragma once

struct ProfileState {};
