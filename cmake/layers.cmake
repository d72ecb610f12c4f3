# The layers of the plug-in and the folders each may use, read by the include check
# (tests/include_layers.cmake) and the link check (cmake/link_layers.cmake).
#
# A folder not listed here is not checked; a listed folder including a folder of the root that
# is not in its row fails, so a new folder needs a row and a place in the rows of the folders
# that use it. A folder links with the folders its row reaches, directly or through their rows.
#
# common/ holds header-only helpers every folder may use (UTF-8, numbers in the "C" locale): it
# includes nothing of ours, and has nothing to link.
set(allowed_functions  functions driver definition engine boundary resources stand_in common)
set(allowed_driver     driver definition engine boundary common)
set(allowed_definition definition boundary resources stand_in common)
set(allowed_engine     engine common)
set(allowed_boundary   boundary resources stand_in common)
set(allowed_resources  resources common)
set(allowed_stand_in   stand_in common)
set(allowed_app        app definition engine stand_in common)
set(allowed_common     common)
set(checked_folders functions driver definition engine boundary resources stand_in app common)
