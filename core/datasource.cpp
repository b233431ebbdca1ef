// SPDX-License-Identifier: MIT
#include "core/datasource.h"

#include "core/table.h"

DataSource::DataSource(Table *dataSet, QObject *parent) : QObject(parent)
{
    setDataSet(dataSet);
}

DataSource::~DataSource()
{
    setDataSet(nullptr);
}

void DataSource::setDataSet(Table *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->m_sources.removeAll(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->m_sources.append(this);
}
