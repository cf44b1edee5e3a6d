// Names each row of a parameterised table after its `name` field.
#ifndef KZQ_TESTS_CASE_NAME_H
#define KZQ_TESTS_CASE_NAME_H

#include <gtest/gtest.h>

#include <string>

template <typename Case> std::string case_name(const testing::TestParamInfo<Case> &row) {
    return row.param.name;
}

#endif
