#include <gtest/gtest.h>
#include "moc/march.h"
TEST(Placeholder, Builds) {}
