# The layers of the plug-in and the folders each may use, read by the include check
# (tests/include_layers.cmake) and the link check (cmake/link_layers.cmake).
#
# A folder not listed here is not checked; a listed folder including a folder of the root that
# is not in its row fails, so a new folder needs a row and a place in the rows of the folders
# that use it. A folder links with the folders its row reaches, directly or through their rows.
set(allowed_functions  functions driver definition engine frame resources host)
set(allowed_driver     driver definition engine frame)
set(allowed_definition definition frame resources host)
set(allowed_engine     engine)
set(allowed_frame      frame resources host)
set(allowed_resources  resources)
set(allowed_host       host)
set(allowed_app        app definition engine host)
set(checked_folders functions driver definition engine frame resources host app)
