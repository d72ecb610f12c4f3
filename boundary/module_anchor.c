/* The plug-in module is plotwise_core linked whole; this file only gives the module target a
 * source of its own. */
typedef int plotwise_module_anchor;
