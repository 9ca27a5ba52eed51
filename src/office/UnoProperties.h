#pragma once

// Building UNO property lists. Office-internal (UNO headers).

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <initializer_list>
#include <vector>

inline com::sun::star::beans::PropertyValue unoProperty(const char* name,
                                                        const com::sun::star::uno::Any& value) {
    com::sun::star::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

inline com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue> unoProperties(
    std::initializer_list<com::sun::star::beans::PropertyValue> list) {
    return com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>(list.begin(),
                                                                               sal_Int32(list.size()));
}

inline com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue> unoProperties(
    const std::vector<com::sun::star::beans::PropertyValue>& list) {
    return com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>(list.data(),
                                                                               sal_Int32(list.size()));
}
