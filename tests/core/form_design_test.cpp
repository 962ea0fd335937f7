#include "core/form_design.h"
#include <gtest/gtest.h>
int main_placeholder();
