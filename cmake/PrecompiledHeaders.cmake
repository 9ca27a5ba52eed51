# Precompiled headers: the Qt, standard library and GoogleTest headers that
# nearly every file includes are parsed once per target instead of once per
# file, which about halves the time a clean build spends in the compiler's
# front end. Only headers of other projects go in: our own headers change too
# often to be worth it, and a file must still include what it uses (a build
# with TESSELDOC_PCH=OFF checks that).
#
# ccache caches these builds only with CCACHE_SLOPPINESS=pch_defines,time_macros.
option(TESSELDOC_PCH "Precompile the library headers every target includes" ON)

set(TESSELDOC_PCH_CORE
  <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject>
  <QRegularExpression> <QString> <QStringList>
  <algorithm> <atomic> <cstdint> <cstring> <functional> <memory> <mutex>
  <optional> <string> <vector>)
set(TESSELDOC_PCH_WIDGETS
  <QApplication> <QDialog> <QHBoxLayout> <QHeaderView> <QLabel> <QPushButton>
  <QTableWidget> <QVBoxLayout> <QWidget>)
set(TESSELDOC_PCH_TESTS <QProcess> <QTemporaryDir> <gtest/gtest.h>)

# Targets with fewer C++ files than this gain less than the header costs.
set(TESSELDOC_PCH_MIN_SOURCES 3)

function(tesseldoc_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    tesseldoc_collect_targets(${sub} sub_targets)
    list(APPEND targets ${sub_targets})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# What a target links, through the targets of this project it links.
function(tesseldoc_linked target out)
  set(seen)
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(direct ${current} LINK_LIBRARIES)
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    foreach(lib ${direct} ${interface})
      if(lib AND NOT lib MATCHES "-NOTFOUND$")
        list(APPEND queue ${lib})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(tesseldoc_precompile_all)
  if(NOT TESSELDOC_PCH)
    return()
  endif()
  tesseldoc_collect_targets(${CMAKE_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY)$")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    get_target_property(group ${target} TESSELDOC_PCH_GROUP)
    if(count LESS TESSELDOC_PCH_MIN_SOURCES AND NOT (group AND DEFINED pch_of_${group}))
      continue()
    endif()
    tesseldoc_linked(${target} linked)
    if(NOT "Qt6::Core" IN_LIST linked)
      continue()
    endif()
    set(headers ${TESSELDOC_PCH_CORE})
    if("Qt6::Widgets" IN_LIST linked)
      list(APPEND headers ${TESSELDOC_PCH_WIDGETS})
    endif()
    if("GTest::gtest" IN_LIST linked)
      list(APPEND headers ${TESSELDOC_PCH_TESTS})
    endif()
    # Targets built with the same flags share one header (the core test
    # programs, which differ only in their sources).
    if(group AND DEFINED pch_of_${group})
      target_precompile_headers(${target} REUSE_FROM ${pch_of_${group}})
    else()
      target_precompile_headers(${target} PRIVATE ${headers})
      if(group)
        set(pch_of_${group} ${target})
      endif()
    endif()
  endforeach()
endfunction()
