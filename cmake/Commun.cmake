# Réglages communs à toutes les cibles du projet.
add_library(zarvo_commun INTERFACE)
target_compile_definitions(zarvo_commun INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_BEFORE=0x060400
)
target_compile_options(zarvo_commun INTERFACE -Wall -Wextra -Wpedantic)
if("$ENV{CI}" STREQUAL "true")
    target_compile_options(zarvo_commun INTERFACE -Werror)
endif()

# Bibliothèque de logique : sources du dossier, Qt Core seulement.
function(zarvo_bibliotheque nom)
    cmake_parse_arguments(ARG "" "" "LIENS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${nom} STATIC ${sources})
    target_include_directories(${nom} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${nom} PUBLIC zarvo_commun Qt6::Core ${ARG_LIENS})
endfunction()
