# The hyperlink control: the browser command logic is plain, the control a widget.
target_sources(zandor_core PRIVATE BrowserCommand.cpp)
zandor_add_ui_sources(HyperLink.cpp)
