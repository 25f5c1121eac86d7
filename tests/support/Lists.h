#ifndef QORX_TESTS_SUPPORT_LISTS_H
#define QORX_TESTS_SUPPORT_LISTS_H

#include <string>
#include <vector>

// `head` followed by `tail`. Inline, so that the recording fakes use it
// without linking the test support.
inline std::vector<std::string> joined(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

#endif
