#pragma once
// Frames are scrolling containers: declared with them among the forms.

#include "framework/Forms.h"
