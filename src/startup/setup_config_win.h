#pragma once

// Reads every setting from config_path into setup_config and warns about an
// unknown user_access_control value.
void read_setup_config();
