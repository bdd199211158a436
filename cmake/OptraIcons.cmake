# Every ":/Image/<alias>" the program and the library use maps to one PNG of
# Debian's Oxygen icon theme. The table is the only place that names theme
# files; optra_add_icon_resources() writes a .qrc from it at configure time.

set(OPTRA_OXYGEN_DIR "/usr/share/icons/oxygen/base" CACHE PATH "Root of the Oxygen icon theme")

# alias | theme file (relative to the theme root)
set(OPTRA_ICON_TABLE
    "open-folder.png|32x32/actions/document-open-folder.png"
    "plus.png|32x32/actions/list-add.png"
    "add.png|32x32/actions/list-add.png"
    "save_file.png|32x32/actions/document-save.png"
    "undo.png|32x32/actions/edit-undo.png"
    "redo.png|32x32/actions/edit-redo.png"
    "layout1x1.png|32x32/actions/view-fullscreen.png"
    "layout2x1.png|32x32/actions/view-split-left-right.png"
    "layout2x2.png|32x32/actions/view-grid.png"
    "play.png|32x32/actions/media-playback-start.png"
    "stop.png|32x32/actions/media-playback-stop.png"
    "settings.png|32x32/categories/preferences-system.png"
    "configure.png|32x32/actions/configure.png"
    "exit.png|32x32/actions/application-exit.png"
    "about.png|32x32/actions/help-about.png"
    "close.png|32x32/actions/window-close.png"
    "clear.png|32x32/actions/edit-delete.png"
    "photo.png|32x32/mimetypes/image-x-generic.png"
    "class.png|32x32/actions/code-class.png"
    "validate_ok.png|32x32/actions/dialog-ok-apply.png"
    "validate_error.png|32x32/status/dialog-error.png"
    "statistics.png|32x32/actions/view-statistics.png"
    "2D.png|32x32/actions/draw-rectangle.png"
    "3D.png|32x32/actions/view-media-visualization.png"
    "capture.png|32x32/apps/ksnapshot.png"
    "copy.png|32x32/actions/edit-copy.png"
    "paste.png|32x32/actions/edit-paste.png"
    "move.png|32x32/actions/transform-move.png"
    "next.png|32x32/actions/go-next.png"
    "previous.png|32x32/actions/go-previous.png"
    "pdf.png|32x32/mimetypes/application-pdf.png"
    "rotate-left.png|32x32/actions/object-rotate-left.png"
    "rotate-right.png|32x32/actions/object-rotate-right.png"
    "ruler.png|32x32/actions/measure.png"
    "search.png|32x32/actions/edit-find.png"
    "selection.png|32x32/actions/select-rectangular.png"
    "zoomfit.png|32x32/actions/zoom-fit-best.png"
)

# The program's own icon, copied next to the executable.
set(OPTRA_APP_ICON "128x128/apps/braindump.png")

function(optra_icon_path alias out_var)
    foreach(row IN LISTS OPTRA_ICON_TABLE)
        string(REPLACE "|" ";" parts "${row}")
        list(GET parts 0 row_alias)
        if(row_alias STREQUAL alias)
            list(GET parts 1 rel)
            set(file "${OPTRA_OXYGEN_DIR}/${rel}")
            if(NOT EXISTS "${file}")
                message(FATAL_ERROR "Icon ${alias}: ${file} is missing. Install oxygen-icon-theme (scripts/install-deps.sh).")
            endif()
            set(${out_var} "${file}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "Icon alias ${alias} is not in OPTRA_ICON_TABLE")
endfunction()

# optra_add_icon_resources(<qrc_out_var> ALIASES a.png b.png ...)
# Writes <binary dir>/<name>_icons.qrc mapping each alias under the prefix
# "/Image" and returns its path for add_library/add_executable sources.
function(optra_add_icon_resources out_var name)
    cmake_parse_arguments(ARG "" "" "ALIASES" ${ARGN})
    set(qrc "${CMAKE_CURRENT_BINARY_DIR}/${name}_icons.qrc")
    set(body "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/Image\">\n")
    foreach(alias IN LISTS ARG_ALIASES)
        optra_icon_path("${alias}" file)
        string(APPEND body "    <file alias=\"${alias}\">${file}</file>\n")
    endforeach()
    string(APPEND body "</qresource>\n</RCC>\n")
    file(CONFIGURE OUTPUT "${qrc}" CONTENT "${body}" @ONLY)
    set(${out_var} "${qrc}" PARENT_SCOPE)
endfunction()

function(optra_copy_app_icon target)
    set(file "${OPTRA_OXYGEN_DIR}/${OPTRA_APP_ICON}")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "Program icon ${file} is missing. Install oxygen-icon-theme (scripts/install-deps.sh).")
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different "${file}" "$<TARGET_FILE_DIR:${target}>/optratrainer.png")
endfunction()
