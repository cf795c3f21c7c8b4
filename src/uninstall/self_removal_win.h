#pragma once

// Has a hidden batch process delete the running executable once it has ended.
void delete_self();
