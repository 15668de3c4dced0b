# Build speed.  A clean build (what CI does twice) spends its time parsing
# the Qt headers in every file and linking a hundred test programs, so:
#  - precompiled headers, unless a compiler cache already makes rebuilds
#    cheap (ccache misses on them unless told to be sloppy);
#  - the gold linker, which links our large debug builds in half the time;
#  - optionally shared libraries, which make each test program small to link
#    (the sanitizer build uses them; a package holds the static build).

if(CMAKE_CXX_COMPILER_LAUNCHER)
  set(pch_default OFF)
else()
  set(pch_default ON)
endif()
option(TUNEBASE_PCH "Precompile the Qt and standard headers" ${pch_default})
option(TUNEBASE_SHARED_LIBS "Build the core and window libraries as shared libraries" OFF)

if(TUNEBASE_SHARED_LIBS)
  set(TUNEBASE_LIBRARY_TYPE SHARED)
else()
  set(TUNEBASE_LIBRARY_TYPE STATIC)
endif()

find_program(TUNEBASE_GOLD ld.gold)
if(TUNEBASE_GOLD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT TUNEBASE_FUZZ)
  add_link_options(-fuse-ld=gold)
endif()

set(TUNEBASE_CORE_PCH
  <algorithm> <functional> <memory> <optional> <vector>
  <QByteArray> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QMap>
  <QObject> <QString> <QStringList> <QVariant>)
set(TUNEBASE_GUI_PCH ${TUNEBASE_CORE_PCH}
  <QAbstractItemModel> <QAction> <QApplication> <QBoxLayout> <QCheckBox>
  <QComboBox> <QDialog> <QGridLayout> <QLabel> <QLineEdit> <QMenu>
  <QMessageBox> <QPainter> <QPushButton> <QTreeView> <QWidget>)

# Gives a target the headers of its kind (core or gui) precompiled.
function(tunebase_precompile target kind)
  if(TUNEBASE_PCH)
    string(TOUPPER ${kind} kind)
    target_precompile_headers(${target} PRIVATE ${TUNEBASE_${kind}_PCH})
  endif()
endfunction()
