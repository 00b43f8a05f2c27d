#pragma once

#include <QTest>

#include <initializer_list>
#include <tuple>
#include <utility>

namespace qel::testing {

// A QtTest table whose columns are the fields of one struct: the rows are named, and a test takes its
// row whole, as `const auto& [a, b] = TheRow<Row>();`.
template <typename Row>
void AddRows(std::initializer_list<std::pair<const char*, Row>> rows)
{
    QTest::addColumn<Row>("row");
    for (const auto& [name, row] : rows)
        QTest::newRow(name) << row;
}

template <typename Row>
const Row& TheRow()
{
    return *static_cast<const Row*>(QTest::qData("row", qMetaTypeId<Row>()));
}

} // namespace qel::testing
