/* A module with nothing in it but the version resource that its build attaches. */
int crafted_module_marker;
