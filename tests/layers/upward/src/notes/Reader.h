#pragma once
#include "convert/Converter.h"
