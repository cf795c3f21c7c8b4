#!/usr/bin/env python
import tiny_pkg

tiny_pkg.main()
