#pragma once
struct Converter {};
